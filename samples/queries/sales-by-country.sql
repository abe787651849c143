-- description: Sales by country and month
-- connection: Provider=SQLite;Data Source=sample.db
SELECT c.country, strftime('%Y-%m', o.order_date) AS month, COUNT(DISTINCT o.id) AS orders,
       SUM(l.quantity) AS units, ROUND(SUM(l.quantity * l.unit_price), 2) AS revenue
FROM orders o
JOIN customers c ON c.id = o.customer_id
JOIN order_lines l ON l.order_id = o.id
WHERE o.status <> 'cancelled'
GROUP BY c.country, month
ORDER BY c.country, month
