-- description: Open orders with their customers
-- connection: Provider=SQLite;Data Source=sample.db
SELECT o.id AS order_id, o.order_date, o.order_time, c.name AS customer, c.city, o.note
FROM orders o
JOIN customers c ON c.id = o.customer_id
WHERE o.status = 'open'
ORDER BY o.order_date, o.order_time
